SELECT Empleados.Legajo, Empleados.Apellido
FROM Empleados
WHERE (((Empleados.FechaIngreso)>=#2023-01-01#) AND ((Empleados.FechaIngreso)<#1/1/2024 8:00:00 AM#));