SELECT DistinctROW Personas.Legajo, Personas.Apellido & ', ' & Personas.Nombre AS NombreCompleto, Personas.FechaIngreso
FROM Personas
WHERE Personas.Activo AND Personas.FechaIngreso > #1/1/2005#
ORDER BY Personas.Apellido;