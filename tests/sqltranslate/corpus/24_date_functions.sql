SELECT Marcas.Legajo, DatePart("yyyy",[Fecha]) AS Anio, DateDiff("n",[Entrada],[Salida]) AS Minutos, DateAdd("d",1,[Fecha]) AS Siguiente, Weekday([Fecha]) AS DiaSemana, CDate([FechaTexto]) AS FechaReal
FROM Marcas
WHERE Marcas.Fecha Between #3/1/2006# And #3/31/2006 23:59#;