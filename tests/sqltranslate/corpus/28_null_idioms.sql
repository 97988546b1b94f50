SELECT IIf(Not IsNull([Baja]),[Baja],#12/31/2099#) AS FechaFin, IIf(IsNull([Telefono]),"Sin teléfono","Tel: " & [Telefono]) AS Contacto
FROM Personas
WHERE IsNull([Personas].[Baja]) Or [Personas].[Baja]>Date();