SELECT Empleados.Legajo, [Apellido] & IIf(IsNull([Apellido2]),""," " & [Apellido2]) AS Apellidos
FROM Empleados;