INSERT INTO [~TempCodes] ( Codigo, Descripcion )
SELECT Conceptos.Codigo, Conceptos.Descripcion
FROM Conceptos
WHERE (((Conceptos.Tipo)="R") AND ((Conceptos.Activo)=True));