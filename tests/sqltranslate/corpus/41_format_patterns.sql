SELECT Marcas.Legajo, Format([Fecha],"yyyymmdd") AS Clave, Format([Fecha],"dd/mm/yyyy") AS Dia, Format([Entrada],"hh:nn") AS HoraEntrada, Format([Fecha],"mmmm yyyy") AS Mes, Format([Importe],"#,##0.00") AS ImporteTexto, Format([Fecha],"Short Date") AS Corta, Format$([Legajo],"00000") AS LegajoTexto
FROM Marcas;
