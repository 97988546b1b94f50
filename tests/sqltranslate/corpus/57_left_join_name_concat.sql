SELECT Empleados.Legajo, [Empleados].[Apellido] & ", " & [Empleados].[Nombre] AS NombreCompleto, Categorias.Categoria
FROM (Empleados INNER JOIN Categorias ON Empleados.IdCategoria = Categorias.IdCategoria) LEFT JOIN Sindicatos ON Empleados.IdSindicato = Sindicatos.IdSindicato
WHERE (((Sindicatos.IdSindicato) Is Null));