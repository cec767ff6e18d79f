QX Macro pages: the number of pages, then one page name per line
2 pages
DRAFT
VIEW
