#pragma once
// Records a security's price for another program: the direct parameter is
// the security's symbol; a symbol not in the security list makes a new
// security, which then needs the "Currency" and "Market" arguments.

#include "document/ScriptCommand.h"

namespace cv {

class UpdateStockCommand : public cv::ScriptCommand {
public:
    using cv::ScriptCommand::ScriptCommand;

    // The market number of a four-character market code ('NYSE' is 20), or none.
    static std::optional<int> marketForCode(const QString &code);

    std::optional<QString> performDefaultImplementation(const std::vector<Book *> &documents) override;
};

} // namespace cv
