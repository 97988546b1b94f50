UPDATE Personas SET Personas.Activo = False, Personas.Observacion = "Baja por fin de contrato; ver legajo"
WHERE (((Personas.FechaFin)<Date()) AND ((Personas.Activo)=True));