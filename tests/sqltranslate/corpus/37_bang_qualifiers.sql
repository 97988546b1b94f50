SELECT Personas!Legajo, Personas!Apellido, [Sectores]![Descripcion] AS Sector
FROM Personas INNER JOIN Sectores ON Personas!IdSector = Sectores!IdSector
WHERE Personas!Activo;
