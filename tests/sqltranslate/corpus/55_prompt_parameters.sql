SELECT Marcas.Legajo, Marcas.Fecha
FROM Marcas
WHERE (((Marcas.Fecha)>=[Fecha desde:] And (Marcas.Fecha)<=[Fecha hasta:]));
