#include "app/print/table_printer.h"

#include <QBuffer>
#include <QDate>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <filesystem>

#include "app/qt_text.h"
#include "files/file_commands.h"
#include "files/file_system.h"
#include "rig/rig_catalogue.h"
#include "tables/cell_editing.h"

namespace tarnwick::app {
namespace {

Qt::Alignment alignmentOf(CellAlignment a) {
  switch (a) {
    case CellAlignment::Right:
      return Qt::AlignRight | Qt::AlignVCenter;
    case CellAlignment::Centre:
      return Qt::AlignHCenter | Qt::AlignVCenter;
    case CellAlignment::Left:
      break;
  }
  return Qt::AlignLeft | Qt::AlignVCenter;
}

const QString kTick = QStringLiteral("\u2713");

class PagePainter {
 public:
  PagePainter(QPainter& painter, const PrintRequest& request, const PrintLayout& layout,
              const PageMetrics& metrics, const PrintLook& look)
      : p_(painter), request_(request), layout_(layout), m_(metrics), look_(look) {
    bold_ = look.font;
    bold_.setBold(true);
    right_ = layout.columns.empty() ? 0 : layout.columns.back().x + layout.columns.back().width;
    for (const PrintColumn& c : layout.columns) headings_.push_back(toQt(c.heading));
  }

  void paint(int page) {
    const ChannelTable& table = *request_.table;
    const double w = m_.width;
    p_.setFont(bold_);
    p_.drawText(QRectF(0, 0, w, m_.lineHeight), Qt::AlignLeft | Qt::AlignVCenter,
                toQt(layout_.headingFile));
    p_.setFont(look_.font);
    p_.drawText(QRectF(0, 0, w, m_.lineHeight), Qt::AlignHCenter | Qt::AlignVCenter,
                toQt(layout_.headingModel));
    p_.drawText(QRectF(0, 0, w, m_.lineHeight), Qt::AlignRight | Qt::AlignVCenter,
                toQt(layout_.headingDate));

    const auto rows = rowsOfPage(request_, layout_, page);
    const double top = layout_.tableTop;
    const double h = layout_.rowHeight;
    const double bottom = top + h * static_cast<double>(rows.size() + 1);

    // Column headings on grey, as the table's header shows them.
    p_.fillRect(QRectF(0, top, right_, h), QColor(235, 235, 235));
    if (!layout_.columns.empty()) {
      const PrintColumn& label = layout_.columns.front();
      p_.fillRect(QRectF(label.x, top + h, label.width, bottom - top - h), QColor(245, 245, 245));
    }
    p_.setFont(bold_);
    for (std::size_t i = 0; i < layout_.columns.size(); ++i) {
      drawText(layout_.columns[i], top, headings_[i], Qt::AlignHCenter | Qt::AlignVCenter);
    }
    p_.setFont(look_.font);
    double y = top + h;
    for (int row : rows) {
      for (const PrintColumn& c : layout_.columns) {
        const std::string& cell = table.cell(c.column, row);
        if (c.checkBox && table.hasCheckBoxes(row) && printsAsCheckBox(cell)) {
          drawCheckBox(c, y, isTicked(cell));
        } else {
          drawText(c, y, toQt(cell), alignmentOf(c.alignment));
        }
      }
      y += h;
    }
    drawGrid(top, bottom, rows.size());

    p_.drawText(QRectF(0, layout_.footTop, w, m_.lineHeight), Qt::AlignHCenter | Qt::AlignVCenter,
                toQt(pageNumberText(page + 1, layout_.pageCount)));
  }

 private:
  void drawText(const PrintColumn& c, double y, const QString& text, Qt::Alignment align) {
    if (text.isEmpty()) return;
    p_.drawText(QRectF(c.x + m_.padding, y, c.width - 2 * m_.padding, layout_.rowHeight), align,
                text);
  }

  void drawCheckBox(const PrintColumn& c, double y, bool ticked) {
    const double side = m_.lineHeight * 0.8;
    const QRectF box(c.x + (c.width - side) / 2, y + (layout_.rowHeight - side) / 2, side, side);
    p_.drawRect(box);
    if (ticked) p_.drawText(box, Qt::AlignCenter, kTick);
  }

  void drawGrid(double top, double bottom, std::size_t rowCount) {
    const double h = layout_.rowHeight;
    p_.drawRect(QRectF(0, top, right_, bottom - top));
    p_.drawLine(QPointF(0, top + h), QPointF(right_, top + h));
    // The label column and the headings keep their lines; the data cells
    // have theirs as the table shows them.
    for (std::size_t i = 1; i < layout_.columns.size(); ++i) {
      const double x = layout_.columns[i].x;
      p_.drawLine(QPointF(x, top), QPointF(x, i == 1 || look_.verticalLines ? bottom : top + h));
    }
    const double dataLeft = layout_.columns.size() > 1 ? layout_.columns[1].x : right_;
    for (std::size_t r = 2; r <= rowCount; ++r) {
      const double y = top + h * static_cast<double>(r);
      p_.drawLine(QPointF(0, y), QPointF(look_.horizontalLines ? right_ : dataLeft, y));
    }
  }

  QPainter& p_;
  const PrintRequest& request_;
  const PrintLayout& layout_;
  const PageMetrics& m_;
  const PrintLook& look_;
  QFont bold_;
  double right_ = 0;
  std::vector<QString> headings_;
};

}  // namespace

std::string printDate() {
  return QDate::currentDate().toString(Qt::ISODate).toStdString();
}

void setPrintPage(QPagedPaintDevice& device) {
  device.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                                   QMarginsF(12, 12, 12, 12), QPageLayout::Millimeter));
}

int paintTable(QPainter& painter, QPagedPaintDevice& device, const PrintRequest& request,
               const PrintLook& given) {
  // Ligatures would turn "Off" into other characters for a reader of the PDF.
  PrintLook look = given;
  look.font.setStyleStrategy(QFont::PreferNoShaping);
  painter.setFont(look.font);
  painter.setPen(Qt::black);
  const QFontMetricsF fm(look.font, &device);
  QFont bold = look.font;
  bold.setBold(true);
  const QFontMetricsF boldFm(bold, &device);
  const QRect area = device.pageLayout().paintRectPixels(device.logicalDpiX());

  PageMetrics metrics;
  metrics.width = area.width();
  metrics.height = area.height();
  metrics.lineHeight = fm.height();
  metrics.padding = fm.averageCharWidth() / 2;
  // Headings are bold: measure every text in bold so that both fit.
  metrics.textWidth = [&boldFm](std::string_view text) {
    return boldFm.horizontalAdvance(toQt(text));
  };
  const PrintLayout layout = layoutPrint(request, metrics);

  PagePainter pages(painter, request, layout, metrics, look);
  for (int page = 0; page < layout.pageCount; ++page) {
    if (page > 0) device.newPage();
    pages.paint(page);
  }
  return layout.pageCount;
}

bool writeTablePdf(const QString& path, const PrintRequest& request, const PrintLook& look,
                   std::string& reason) {
  // The pages are made in memory and take the file's place only when whole:
  // a full disk leaves an older PDF as it was, never a truncated one.
  QBuffer pdf;
  pdf.open(QIODevice::WriteOnly);
  {
    QPdfWriter writer(&pdf);
    setPrintPage(writer);
    writer.setResolution(300);
    writer.setCreator(QStringLiteral("Tarnwick"));
    writer.setTitle(toQt(request.fileName));
    QPainter painter;
    if (!painter.begin(&writer) || (paintTable(painter, writer, request, look), !painter.end())) {
      reason = "the pages could not be made";
      return false;
    }
  }
  const QByteArray& bytes = pdf.data();
  return defaultFileSystem().replace(pathFromQt(path),
                                     std::string_view(bytes.constData(), bytes.size()), reason);
}

int printMemoryListFile(const std::string& inFile, const std::string& outFile, int modelIndex,
                        bool includeEmpty, std::ostream& err) {
  std::vector<ChannelRecord> rows;
  std::string reason;
  if (!readMemoryListFile(defaultFileSystem(), inFile, rows, reason)) {
    err << openError(inFile, reason) << '\n';
    return 2;
  }
  ChannelTable table(modelIndex >= 0 ? TableKind::Rig : TableKind::PermanentFile);
  if (rows.empty()) rows.emplace_back();
  table.assign(std::move(rows), /*checkBoxes=*/true);

  PrintRequest request;
  request.table = &table;
  std::vector<int> shown;
  for (int r = 1; r < table.rowCount(); ++r) shown.push_back(r);
  request.rows = printedRows(table, shown, includeEmpty);
  request.hidden = hiddenColumns(modelIndex);
  // As on screen: a radio with select groups has a list in its Select column.
  if (modelIndex >= 0) request.checkBoxColumns = checkBoxColumns(modelIndex);
  request.fileName = std::filesystem::path(inFile).filename().string();
  if (modelIndex >= 0) request.modelName = std::string(modelName(modelIndex));
  request.date = printDate();
  std::string why;
  if (!writeTablePdf(pathToQt(outFile), request, {}, why)) {
    err << "Cannot write " << outFile << ": " << why << '\n';
    return 2;
  }
  return 0;
}

}  // namespace tarnwick::app
