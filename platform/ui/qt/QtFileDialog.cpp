#include <QFileDialog>

#include "QtInternal.h"

namespace ui::qt {

namespace {

QString FilterText(const std::pair<std::string, std::string>& filter) {
    return QStringLiteral("%1 (*.%2)")
        .arg(FromBytes(filter.first), QString::fromUtf8(filter.second.c_str()));
}

}  // namespace

bool ChooseFile(NativeWindow* pOwner, const SaveFileRequest& request, SaveFileChoice* pChoice) {
    auto* pWindow = dynamic_cast<QtWindow*>(pOwner);
    QFileDialog dialog(pWindow != nullptr ? pWindow->Widget()->window() : nullptr,
                       FromBytes(request.title));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    QStringList filters;
    for (const auto& filter : request.filters) {
        filters << FilterText(filter);
    }
    dialog.setNameFilters(filters);
    const int nInitial =
        request.nFilter >= 0 && request.nFilter < static_cast<int>(request.filters.size())
            ? request.nFilter
            : 0;
    dialog.selectNameFilter(filters[nInitial]);
    // A name typed without an extension gets the chosen kind's.
    dialog.setDefaultSuffix(QString::fromUtf8(request.filters[nInitial].second.c_str()));
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                     [&dialog, &filters, &request](const QString& chosen) {
                         const auto nIndex = filters.indexOf(chosen);
                         if (nIndex >= 0) {
                             dialog.setDefaultSuffix(QString::fromUtf8(
                                 request.filters[static_cast<std::size_t>(nIndex)].second.c_str()));
                         }
                     });
    if (!request.initialName.empty()) {
        dialog.selectFile(QFile::decodeName(request.initialName.c_str()));
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return false;
    }
    pChoice->path = QFile::encodeName(dialog.selectedFiles().front()).toStdString();
    pChoice->nFilter = std::max(0, static_cast<int>(filters.indexOf(dialog.selectedNameFilter())));
    return true;
}

}  // namespace ui::qt
