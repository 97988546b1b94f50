SELECT Marcas.Legajo, datepart('yyyy',Marcas.Fecha) AS Anio, datepart('m',Marcas.Fecha) AS Mes, Weekday(Marcas.Fecha) AS DiaSemana, datediff('n',Marcas.Entrada,Marcas.Salida) AS Minutos, dateadd('d',1,Marcas.Fecha) AS Siguiente, cdate(Format(Marcas.Fecha,'MM/yyyy')) AS PrimerDia, Trim([Marcas].[Observacion]) AS Obs, CSTR(Marcas.Reloj) AS Reloj, Val(Marcas.Tarjeta) AS Tarjeta
FROM Marcas
WHERE Marcas.Fecha >= #3/1/2006# AND Marcas.Fecha < #4/1/2006# AND NOT IsNull(Marcas.Salida)
ORDER BY Marcas.Fecha, Marcas.Legajo;