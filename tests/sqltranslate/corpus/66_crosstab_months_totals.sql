TRANSFORM Sum(Fichadas.Horas) AS SumaDeHoras
SELECT Fichadas.Legajo, Sum(Fichadas.Horas) AS [Total Horas]
FROM Fichadas
GROUP BY Fichadas.Legajo
PIVOT Format([Fecha],"mmm") In ("Jan","Feb","Mar","Apr","May","Jun","Jul","Aug","Sep","Oct","Nov","Dec");