SELECT Empleados.Legajo, Empleados.Apellido
FROM Empleados
WHERE Empleados.Apellido Like "*" & [Forms]![frmBuscar]![txtTexto] & "*";