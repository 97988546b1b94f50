SELECT Fichadas.Legajo, [Minutos] Mod 60 AS MinutosSueltos, [Minutos]\60 AS HorasEnteras
FROM Fichadas;