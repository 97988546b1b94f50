SELECT Personas.Legajo, CalculaAntiguedad([FechaIngreso],Date()) AS Antiguedad
FROM Personas;
