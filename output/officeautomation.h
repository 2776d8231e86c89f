#pragma once

#include "output/automation.h"

// The backend that stands behind the automation surface when no Office is installed: a new
// document with a merge file attached becomes an OpenDocument text for LibreOffice Writer (.odt),
// documents from Word templates stay .docx packages, Excel workbooks become .xlsx files. When the
// program lets go of a visible application, its documents are saved in the document folder
// (documentfolder.h) and opened with the desktop's handler.
namespace qv::automation {

class OfficeFactory : public Factory {
public:
    std::unique_ptr<Object> create(const QString& progId) override;
};

} // namespace qv::automation
