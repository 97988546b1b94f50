SELECT Legajo, "It's a ""quoted"" text" AS Nota, 'Select * From x Where y' AS Texto, "C:\Kelv\Recibos\" & [Legajo] & ".pdf" AS Archivo
FROM Empleados;