PARAMETERS [Fecha desde] DateTime;
SELECT Legajo FROM Marcas WHERE Fecha >= [Fecha desde]
