SELECT Conceptos.Codigo, "Select * From x Where y Order by z" AS Ejemplo, 'Mid(a,1) Date() DISTINCTROW True False' AS Otro, "--no comment" AS Guiones, "[no name] #1/1/2000# a & b" AS Marcas, "IIf(x,1,0) IsNull(y)" AS Llamadas
FROM Conceptos
WHERE Conceptos.Nota <> "WHERE Activo AND Fijo";