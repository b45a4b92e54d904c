#include "TarvonaPage.h"

int main()
{
    // The page lives as long as the document; the runtime stays after main returns, waiting
    // for the page's events.
    static tarvona::TarvonaPage page;
    return 0;
}
