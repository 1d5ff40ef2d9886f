#include "support/FmxUtils.h"
#include "platform/filesystem/winfs.h"

bool TestFileAttr(const QString &fileName, unsigned short mask)
{
    int attr = winfs::fileGetAttr(fileName);
    if (attr < 0)
        attr = 0;
    return (attr & mask) == mask;
}

QString ReplicateText(const QString &text, int count)
{
    return count <= 0 ? QString() : text.repeated(count);
}
