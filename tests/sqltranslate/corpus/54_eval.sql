SELECT Conceptos.Codigo, Eval([Formula]) AS Valor
FROM Conceptos;
