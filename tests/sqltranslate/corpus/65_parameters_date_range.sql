PARAMETERS [Fecha Desde] DateTime, [Fecha Hasta] DateTime;
SELECT Fichadas.Legajo, Fichadas.Fecha, Fichadas.Horas
FROM Fichadas
WHERE (((Fichadas.Fecha) Between [Fecha Desde] And [Fecha Hasta]));