SELECT Personas.Legajo
FROM Personas
WHERE (Personas.Fijo = True) Xor (Personas.Contratado = True);