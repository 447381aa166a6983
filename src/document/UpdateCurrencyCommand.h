#pragma once
// Records a currency's exchange rate for another program: the direct
// parameter is the currency's name, "Price" the rate.

#include "document/ScriptCommand.h"

namespace cv {

class UpdateCurrencyCommand : public cv::ScriptCommand {
public:
    using cv::ScriptCommand::ScriptCommand;

    std::optional<QString> performDefaultImplementation(const std::vector<Book *> &documents) override;
};

} // namespace cv
