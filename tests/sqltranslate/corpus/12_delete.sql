DELETE FROM Marcas
WHERE (((Marcas.Fecha)<#1/1/2000#)) OR Marcas.Anulada;