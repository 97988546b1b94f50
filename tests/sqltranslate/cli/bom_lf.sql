SELECT [Order Details].Nombre, "C:\Temp\" & [Archivo] AS Ruta
FROM [Order Details]
WHERE Nombre = "O'Brien" -- dueño
ORDER BY Nombre;
