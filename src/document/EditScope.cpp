#include "document/EditScope.h"

#include "document/Book.h"
#include "document/BookPrivate.h"

namespace cv {

EditScope::EditScope(Book &document, Writes writes) : m_document(document)
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
