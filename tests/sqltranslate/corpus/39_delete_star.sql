DELETE Marcas.*, Marcas.Fecha
FROM Marcas
WHERE (((Marcas.Fecha)<#1/1/2004#));
