SELECT Empleados.Legajo, Empleados.Apellido
FROM Empleados
WHERE Empleados.Legajo Not In (SELECT Recibos.Legajo FROM Recibos WHERE Recibos.Periodo="2024-02" ORDER BY Recibos.Legajo)
ORDER BY Empleados.Apellido;