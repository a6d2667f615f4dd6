#!/usr/bin/env python3
"""Writes an .xlsx workbook of many small sheets, each a valid two-row fare table.

Usage: bench/make_workbook.py SHEETS OUT.xlsx [--name-length N] [--names PREFIX] [--list-only]

The parts are stored, not deflated, so that a big book is written in seconds. With
--name-length the first sheet's name is that many characters long ("長" repeated). With
--list-only the book only lists its sheets (deflated), with no part for any: a million sheets
fit in a few megabytes.
"""
import argparse
import zipfile

CONTENT_TYPES_HEAD = (
    '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
    '<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">'
    '<Default Extension="rels" '
    'ContentType="application/vnd.openxmlformats-package.relationships+xml"/>'
    '<Default Extension="xml" ContentType="application/xml"/>'
    '<Override PartName="/xl/workbook.xml" ContentType="application/'
    'vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"/>'
)
PACKAGE_RELS = (
    '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
    '<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">'
    '<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/'
    'relationships/officeDocument" Target="xl/workbook.xml"/></Relationships>'
)
SHEET_TYPE = 'http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet'


def sheet_xml(number):
    rows = ''
    for row in (1, 2):
        rows += (f'<row r="{row}"><c r="A{row}" t="inlineStr"><is><t>停留所{row}</t></is></c>'
                 f'<c r="B{row}"><v>{row}</v></c><c r="C{row}"><v>{140 + number % 50}</v></c>'
                 '</row>')
    return ('<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
            '<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">'
            f'<sheetData>{rows}</sheetData></worksheet>')


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('sheets', type=int)
    parser.add_argument('out')
    parser.add_argument('--name-length', type=int, default=0)
    parser.add_argument('--names', default='系統')
    parser.add_argument('--list-only', action='store_true')
    args = parser.parse_args()

    def name(number):
        if number == 1 and args.name_length:
            return '長' * args.name_length
        return f'{args.names}{number}'

    if args.list_only:
        with zipfile.ZipFile(args.out, 'w', zipfile.ZIP_DEFLATED) as book:
            book.writestr('[Content_Types].xml', CONTENT_TYPES_HEAD + '</Types>')
            book.writestr('_rels/.rels', PACKAGE_RELS)
            book.writestr('xl/workbook.xml', (
                '<workbook><sheets>' + ''.join(
                    f'<sheet name="{name(n)}"/>' for n in range(1, args.sheets + 1)) +
                '</sheets></workbook>'))
        return
    with zipfile.ZipFile(args.out, 'w', zipfile.ZIP_STORED) as book:
        book.writestr('[Content_Types].xml', CONTENT_TYPES_HEAD + ''.join(
            f'<Override PartName="/xl/worksheets/sheet{n}.xml" ContentType="application/'
            'vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"/>'
            for n in range(1, args.sheets + 1)) + '</Types>')
        book.writestr('_rels/.rels', PACKAGE_RELS)
        book.writestr('xl/workbook.xml', (
            '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
            '<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" '
            'xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">'
            '<sheets>' + ''.join(
                f'<sheet name="{name(n)}" sheetId="{n}" r:id="rId{n}"/>'
                for n in range(1, args.sheets + 1)) + '</sheets></workbook>'))
        book.writestr('xl/_rels/workbook.xml.rels', (
            '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
            '<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">'
            + ''.join(f'<Relationship Id="rId{n}" Type="{SHEET_TYPE}" '
                      f'Target="worksheets/sheet{n}.xml"/>'
                      for n in range(1, args.sheets + 1)) + '</Relationships>'))
        sheet = sheet_xml(0)
        for n in range(1, args.sheets + 1):
            book.writestr(f'xl/worksheets/sheet{n}.xml',
                          sheet if n % 50 == 0 else sheet_xml(n))


if __name__ == '__main__':
    main()
