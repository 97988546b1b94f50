SELECT Legajo From Personas WHERE Activo;
Union
SELECT Legajo From Historico;