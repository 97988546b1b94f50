TRANSFORM Sum(Marcas.Horas) AS SumaDeHoras
SELECT Marcas.Legajo
FROM Marcas
WHERE (((Marcas.Anio)=2006))
GROUP BY Marcas.Legajo
ORDER BY Marcas.Legajo
PIVOT Marcas.Mes In (1,2,3,4,5,6,7,8,9,10,11,12);
