SELECT Fichadas.Legajo, DatePart("ww",[Fecha]) AS Semana, Sum(Fichadas.Horas) AS HorasSemana
FROM Fichadas
GROUP BY Fichadas.Legajo, DatePart("ww",[Fecha]);