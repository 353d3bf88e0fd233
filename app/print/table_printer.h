#pragma once
// Paints a channel table onto paper or into a PDF, page by page, with the
// core's page layout. Needs Qt Gui only, so the command line links it too.

#include <QFont>
#include <QString>
#include <ostream>
#include <string>

#include "tables/print_layout.h"

class QPagedPaintDevice;
class QPainter;

namespace tarnwick::app {

struct PrintLook {
  QFont font{QStringLiteral("Sans Serif"), 8};
  bool horizontalLines = true;
  bool verticalLines = true;
};

// Today's date as the heading shows it.
std::string printDate();

// Paints every page on `device`, which `painter` is active on; returns the
// number of pages.
int paintTable(QPainter& painter, QPagedPaintDevice& device, const PrintRequest& request,
               const PrintLook& look);

// Gives a printer or PDF writer the pages' defaults: A4, landscape, margins.
void setPrintPage(QPagedPaintDevice& device);

// Writes the table as a PDF, which replaces the file only once it is whole;
// false, with the system's reason, when the file cannot be written.
bool writeTablePdf(const QString& path, const PrintRequest& request, const PrintLook& look,
                   std::string& reason);

// The command line's print: a memory list file to a PDF, with the columns
// of a model (modelIndex < 0: every column), empty memories only when asked
// for. Needs a QGuiApplication. Returns a process exit code; failures are
// told on `err`.
int printMemoryListFile(const std::string& inFile, const std::string& outFile, int modelIndex,
                        bool includeEmpty, std::ostream& err);

}  // namespace tarnwick::app
