#pragma once
// A dialog whose buttons follow the ticks of its outline.

namespace cv {

class ButtonStatusClient {
public:
    virtual ~ButtonStatusClient() = default;
    virtual void updateButtons() = 0;
};

} // namespace cv
