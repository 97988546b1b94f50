SELECT Personas.Legajo, DLookUp("Descripcion","Sectores","IdSector = " & [IdSector]) AS Sector
FROM Personas INNER JOIN Categorias ON Personas.IdCategoria = Categorias.IdCategoria;
