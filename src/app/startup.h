#pragma once
// Start-up pieces that run while the main window is created.
#include <QString>

// Title and help file of the application.
inline const QString AppTitle = QStringLiteral("Renomeia Arquivos ZQ");
inline const QString AppHelpFile = QStringLiteral("C:\\ZQ\\RenomeiaArqs\\Fontes\\Zqren417.hlp");
inline const QString AppVersion = QStringLiteral("1.2.1");
// Name of the desktop entry, the metadata and the icons of an installed copy.
inline const QString AppId = QStringLiteral("br.com.renomeiazq.RenomeiaArquivosZQ");

// Sets the title, the help file and the process-wide formats.
void InitApplication();
QString applicationHelpFile();

// Process-wide date and time formats.
void SetProcessFormats();

// Registers the database alias ZqRen417 when it is missing; a failure is shown
// in a plain box and start-up goes on.
void CriaAlias();
