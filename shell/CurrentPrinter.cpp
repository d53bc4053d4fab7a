#include "shell/CurrentPrinter.h"

namespace vorlix::shell {

namespace {

    std::shared_ptr<const CurrentPrinter>& slot()
    {
        static std::shared_ptr<const CurrentPrinter> printer = std::make_shared<DefaultA4Printer>();
        return printer;
    }

}

const CurrentPrinter& CurrentPrinter::current()
{
    return *slot();
}

void CurrentPrinter::setCurrent(std::shared_ptr<const CurrentPrinter> printer)
{
    slot() = printer ? std::move(printer) : std::make_shared<DefaultA4Printer>();
}

}
