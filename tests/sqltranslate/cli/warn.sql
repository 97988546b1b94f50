SELECT Legajo, Antiguedad([Alta]) AS Anios FROM Personas WHERE Sector = [Forms]![frmMain]![cboSector]
