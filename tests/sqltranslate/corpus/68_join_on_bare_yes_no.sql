SELECT Empleados.Legajo, Empleados.Apellido
FROM Empleados INNER JOIN Sectores ON (Empleados.IdSector = Sectores.IdSector) AND Sectores.Habilitado;