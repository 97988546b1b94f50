SELECT Personas.Legajo, IsNull([FechaBaja]) AS SinBaja, CBool([Activo]) AS ActivoNum, [Basico]+[Adicional] AS Bruto, [Bruto]*0.17 AS Aportes, Bruto*2 AS Doble
FROM Personas
WHERE [Fijo] Xor [Contratado];
