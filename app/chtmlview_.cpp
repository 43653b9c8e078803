// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/chtmlview_.h"

#include <QTextBrowser>

IMPLEMENT_DYNCREATE(CHtmlView_, CView)

namespace {
const char* const kWelcome = R"(
<h1>Welcome to Strevio</h1>
<p>Strevio turns a folder of photos into a film.</p>
<ol>
<li>Choose <b>File &gt; Open</b> and pick any file of the folder that holds your photos.</li>
<li>Select the photos you want (Ctrl+A selects all of them).</li>
<li>Press <b>P</b> to name the film and set its frames per second.</li>
<li>Press <b>F</b> to make the film.</li>
</ol>
<p>Films are written into the folder Strevio was started from. Press F1 for all commands and keys.</p>
)";
}

QWidget* CHtmlView_::CreateViewWidget(QWidget* parent, const CREATESTRUCT& /*cs*/)
{
    auto* browser = new QTextBrowser(parent);
    browser->setOpenLinks(false);
    browser->setHtml(QString::fromUtf8(kWelcome));
    return browser;
}

void CHtmlView_::OnDraw(CDC* /*dc*/) {}
