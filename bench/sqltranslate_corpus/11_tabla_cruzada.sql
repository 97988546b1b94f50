TRANSFORM Sum(Marcas.Horas) AS SumaDeHoras
SELECT Marcas.Legajo, Sum(Marcas.Horas) AS [Total de Horas]
FROM Marcas INNER JOIN Personas ON Marcas.Legajo = Personas.Legajo
WHERE (((Marcas.Anio)=2006) AND ((Personas.Activo)=True))
GROUP BY Marcas.Legajo
ORDER BY Marcas.Legajo
PIVOT Format([Fecha],"mmm") In ("Ene","Feb","Mar","Abr","May","Jun","Jul","Ago","Sep","Oct","Nov","Dic");
