-- Resumen de horas por sector (consulta de paso a través)
SELECT s.Descripcion, /* total */ SUM(m.Horas) AS Horas
FROM dbo.Marcas AS m
  INNER JOIN dbo.Sectores AS s ON s.IdSector = m.IdSector -- solo sectores activos
WHERE s.Activo = 1
  AND m.Fecha >= '20060101' -- desde enero
  AND m.Tipo <> N'X'
GROUP BY s.Descripcion;