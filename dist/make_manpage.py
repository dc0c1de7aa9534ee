#!/usr/bin/env python3
"""Writes the manual pages: vellum-cli(1) from the tool's own --help texts (so each command
is in it as the tool describes it), and vellum(1) from dist/vellum.1; both also gzipped.

    make_manpage.py --cli build/bin/vellum-cli --version "0.91 beta" --date 2026-12-07 \\
                    --editor dist/vellum.1 --out build/dist/man
"""
import argparse, gzip, os, re, subprocess

FILES = r"""
.SH FILES
An installed copy of vellum and vellum\-cli reads its data from
.I \%<prefix>/share/vellum
and keeps what it writes in the user's folders:
.TP
.I $XDG_CONFIG_HOME/vellum/Vellum.ini
The settings (default
.IR ~/.config/vellum ).
.TP
.I $XDG_DATA_HOME/vellum/ESTemplate.ini
The user's format template, copied from the installed one on first run (default
.IR ~/.local/share/vellum ),
with its default copy
.IR ESTemplate.def ,
the folder
.I Templates
of files a new file is made from,
.I Signatures.ini
and the folder
.I Dumps
of text dumps.
.TP
.I $XDG_CACHE_HOME/vellum/Indices
The reference (.rdx) and ID (.idx) index files, rebuilt whenever a file loads (default
.IR ~/.cache/vellum ).
.PP
A build tree or portable copy, marked by a file
.I vellum.portable
beside the executable, keeps all of these in the executable's folder instead.
The
.B \-\-home
.I DIR
of vellum\-cli keeps them all in
.IR DIR ,
which gets what it lacks of the installed template, Templates and signatures.
""".lstrip('\n')

def esc(text):
    """Roff-safe text: backslashes, leading dots and quotes, and hyphens of options."""
    text = text.replace('\\', '\\e')
    text = re.sub(r'(?<![\w-])-', r'\\-', text)
    return re.sub(r'^([.\'])', r'\\&\1', text)

def run(cli, *args):
    return subprocess.run([cli, *args], capture_output=True, text=True, check=True).stdout

def commands(cli):
    """(name, summary) from the tool's --help."""
    out, listing = [], False
    for line in run(cli, '--help').splitlines():
        if line == 'Commands:':
            listing = True
        elif listing and not line.strip():
            break
        elif listing:
            name, summary = line.split(None, 1)
            out.append((name, summary))
    return out

def command_section(name, summary, help_text):
    lines = help_text.rstrip('\n').split('\n')
    roff = ['.SS %s' % name, esc(summary[0].upper() + summary[1:]) + '.']
    # The usage lines, up to the first blank one.
    usage = []
    while lines and lines[0].strip():
        usage.append(lines.pop(0))
    # Continuation lines stay lined up under the first, which loses "usage: ".
    usage = [usage[0][len('usage: '):]] + [u[len('usage: '):] if u.startswith(' ' * 7) else u for u in usage[1:]]
    roff += ['.PP', '.nf', *(esc(u) for u in usage), '.fi']
    option = None
    for line in lines:
        if line == 'Options:':
            option = ''
            continue
        if option is None:  # the description: indented lines are shown as they are
            if not line.strip():
                roff.append('.PP')
            elif line.startswith('  '):
                roff += ['.RS', '.nf', esc(line.strip()), '.fi', '.RE']
            else:
                roff.append(esc(line))
            continue
        m = re.match(r'^  (-\S*)(?: ([^ ]+))?\s{2,}(.*)$', line)
        if m:
            term = '.BI "%s " %s' % (esc(m.group(1)), esc(m.group(2))) if m.group(2) else '.B %s' % esc(m.group(1))
            roff += ['.TP', term, esc(m.group(3))]
        elif line.strip():
            roff.append(esc(line.strip()))
    return '\n'.join(roff) + '\n'

def cli_page(cli, version, date):
    page = ['.TH VELLUM\\-CLI 1 "%s" "Vellum %s" "User Commands"' % (date, version),
            '.SH NAME', 'vellum\\-cli \\- check, dump, search, index and repair Morrowind data files',
            '.SH SYNOPSIS', '.B vellum\\-cli', '.I COMMAND', '[\\fIOPTIONS\\fR] \\fIFILE\\fR...', '.br',
            '.B vellum\\-cli', '\\-\\-help | \\-\\-version',
            '.SH DESCRIPTION',
            'vellum\\-cli is the command\\-line companion of the Vellum editor, vellum(1). It works on',
            'the TES3 data files of Morrowind (.esm, .esp, .ess) and OpenMW (.omwaddon, .omwgame)',
            'with the editor\'s own format template, index files and rules, so what it prints and',
            'writes is what the editor would show and write.',
            '.PP',
            'Every command takes',
            '.B \\-\\-template',
            '.I FILE',
            '(another format template) and',
            '.BR \\-\\-help ;',
            'those that write index files or dumps also take',
            '.B \\-\\-home',
            '.IR DIR .',
            '.B vellum\\-cli \\-\\-help',
            'lists the commands and the files in force.',
            '.SH COMMANDS']
    for name, summary in commands(cli):
        page.append(command_section(name, summary, run(cli, name, '--help')).rstrip('\n'))
    page += [FILES.rstrip('\n'),
             '.SH ENVIRONMENT',
             '.TP', '.B XDG_CONFIG_HOME, XDG_DATA_HOME, XDG_CACHE_HOME',
             'Where an installed copy keeps the settings, the user\'s files and the index files.',
             '.TP', '.B HOME', 'The base of those folders when the variables are not set.',
             '.SH "EXIT STATUS"',
             '0 when the command did its work; 1 when a file could not be read or written, or a record',
             'named was not found; 2 when the arguments could not be understood.',
             '.SH EXAMPLES',
             '.nf',
             'vellum\\-cli check ~/Morrowind/Data\\e Files/*.esp',
             'vellum\\-cli dump \\-\\-mode 2 MyMod.esp',
             'vellum\\-cli find \\-\\-type NPC_ MyMod.esp guard',
             '.fi',
             '.SH "SEE ALSO"', 'vellum(1)']
    return '\n'.join(page) + '\n'

def write(path, text):
    with open(path, 'w') as f:
        f.write(text)
    # No name or time in the header: the same page gives the same bytes.
    with open(path + '.gz', 'wb') as raw, gzip.GzipFile(fileobj=raw, mode='wb', filename='', mtime=0) as z:
        z.write(text.encode())

def main():
    p = argparse.ArgumentParser()
    for opt in ('--cli', '--version', '--date', '--editor', '--out'):
        p.add_argument(opt, required=True)
    a = p.parse_args()
    os.makedirs(a.out, exist_ok=True)
    write(os.path.join(a.out, 'vellum-cli.1'), cli_page(a.cli, a.version, a.date))
    editor = open(a.editor).read().replace('@VERSION@', a.version).replace('@DATE@', a.date)
    write(os.path.join(a.out, 'vellum.1'), editor.replace('@FILES@', FILES.rstrip('\n')))

if __name__ == '__main__':
    main()
