#include "document/EditScope.h"

#include "document/CV4Document.h"

namespace cv {

EditScope::EditScope(CV4Document &document, Writes writes) : m_document(document)
{
    m_document.beginEdit(writes == Writes::Several);
}

EditScope::~EditScope()
{
    m_document.endEdit();
}

void EditScope::fail()
{
    m_document.failEdit();
}

} // namespace cv
