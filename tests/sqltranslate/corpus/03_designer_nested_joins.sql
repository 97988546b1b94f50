SELECT Personas.Legajo, Sectores.Descripcion, Categorias.Nombre AS Categoria, [Order Details].Cantidad
FROM ((Personas INNER JOIN Sectores ON Personas.IdSector = Sectores.IdSector) LEFT JOIN Categorias ON Personas.IdCategoria = Categorias.IdCategoria) INNER JOIN [Order Details] ON Personas.Legajo = [Order Details].Legajo
WHERE (((Personas.Baja) Is Null));