TRANSFORM Sum(Novedades.Importe) AS SumaDeImporte
SELECT Novedades.Legajo
FROM Novedades
GROUP BY Novedades.Legajo
PIVOT Novedades.Concepto;
