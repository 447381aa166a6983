#include "document/EditScope.h"

#include "document/CV4Document.h"
#include "document/CV4DocumentPrivate.h"

namespace cv {

EditScope::EditScope(CV4Document &document, Writes writes) : m_document(document)
{
    m_document.m_d->beginEdit(writes == Writes::Several);
}

EditScope::~EditScope()
{
    m_document.m_d->endEdit();
}

void EditScope::fail()
{
    m_document.m_d->failEdit();
}

} // namespace cv
