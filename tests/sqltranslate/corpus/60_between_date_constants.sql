SELECT Licencias.Legajo, Licencias.Desde, Licencias.Hasta
FROM Licencias
WHERE (((Licencias.Desde) Between #1/1/2023# And #12/31/2023#));