PARAMETERS [Fecha desde] DateTime, [Fecha hasta] DateTime, [Forms]![frmLiquidacion]![txtLegajo] Long;
SELECT Marcas.Legajo, Marcas.Fecha, Marcas.Horas
FROM Marcas
WHERE (((Marcas.Legajo)=[Forms]![frmLiquidacion]![txtLegajo]) AND ((Marcas.Fecha) Between [Fecha desde] And [Fecha hasta]));
