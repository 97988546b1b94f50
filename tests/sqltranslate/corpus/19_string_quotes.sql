SELECT Personas.Legajo, "O'Brien" AS Apellido, 'It''s "fine"' AS Nota, "C:\Datos\Kelv\" & [Archivo] AS Ruta, "Say ""hi""" AS Saludo
FROM Personas
WHERE Personas.Apellido <> "O'Brien" AND Personas.Filtro = "FirstName='" & [Nombre] & "'";