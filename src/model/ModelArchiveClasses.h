#pragma once

// Registers every archived class of the finance model with the keyed
// archiver. Idempotent and cheap; call before decoding any model archive.
namespace cv {

void registerModelArchiveClasses();

} // namespace cv
