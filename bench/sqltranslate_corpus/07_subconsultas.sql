SELECT P.Legajo, P.Apellido, (SELECT Sum(L.Neto) FROM Liquidaciones AS L WHERE L.Legajo = P.Legajo AND L.Cerrada) AS TotalNeto, IIF(P.Baja Is Null,'Activo','Baja') AS Estado, Estado & ' ' & P.Sector AS Detalle
FROM Personas AS P
WHERE P.Sector IN (SELECT S.Id FROM Sectores AS S WHERE S.Habilitado) AND P.Legajo > 100 AND P.Apellido LIKE 'A*'
ORDER BY P.Apellido;