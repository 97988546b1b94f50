SELECT DistinctROW Nombre & ' ' & Apellido FROM Personas;
