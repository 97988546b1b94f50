SELECT Novedades.Legajo, Sum(Novedades.Importe) AS SumaDeImporte
FROM Novedades
WHERE Novedades.Confirmada
GROUP BY Novedades.Legajo
HAVING (((Sum(Novedades.Importe))>0))
ORDER BY Novedades.Legajo;