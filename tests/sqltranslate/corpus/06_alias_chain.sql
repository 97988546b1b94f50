SELECT Liquidaciones.Legajo, [Basico]*1.15 AS BasicoAjustado, [BasicoAjustado]+[Adicional] AS Bruto, [Bruto]*0.17 AS Aportes, [Bruto]-[Aportes] AS Neto
FROM Liquidaciones
WHERE (((Liquidaciones.Cerrada)=False));