SELECT Empleados.Legajo, [Sueldo]/30 AS Diario, [Sueldo]\30 AS DiarioEntero, [Dias]/2 AS Medio
FROM Empleados;