package Mapfeed::Args;
# The command line as the Mapfeed program sends it, checked into one job description.
#
# The program starts "perl -S mapfeed.pl -I <input> -D <design> <27 option slots>"; the input
# and design paths arrive as one argument each, the option part split at blanks, so empty slots
# leave nothing, slot 6's "-C " arrives as "-C", and a flag whose text was blank arrives with
# no value at all. A lone "-+" (the program's file-name suffix marker) may stand anywhere.
use v5.36;

use Exporter 'import';
our @EXPORT_OK = qw(parse_arguments);

use Mapfeed::Failure qw(fail EXIT_USAGE EXIT_INPUT);

# Every flag that takes a value, with what its value must be (for the messages).
my %VALUE_FLAGS = (
    '-I'    => 'an input file',
    '-D'    => 'a design file',
    '-S'    => 'a source: A (Arc/Info) or X (X,Y)',
    '-P'    => 'a theme: P (points), L (lines) or A (polygons)',
    '-L'    => 'a level from 1 to 63',
    '-C'    => 'a level from 1 to 63',
    '-T'    => 'a table name',
    '-M'    => 'a first mslink number, or -i for the cover ids',
    '-O'    => 'a point type: P (point), A (annotation), T (text node) or C (cell)',
    '-sl'   => 'style,weight,color',
    '-sp'   => 'style,weight,color',
    '-ce'   => 'a cell library file',
    '-cn'   => 'a cell name',
    '-f'    => 'a font number from 0 to 255',
    '-txsz' => 'a text size greater than 0',
    '-J'    => 'a justification from 0 to 14',
    '-R'    => 'ulhx,ulhy,pixel',
);
my %SWITCHES = ('-c' => 'curves instead of line strings');
my $MARKER = '-+';

my $NUMBER = qr/[-+]?(?:\d+\.?\d*|\.\d+)(?:[eE][-+]?\d+)?/;

sub is_flag ($word) {
    return exists $VALUE_FLAGS{$word} || exists $SWITCHES{$word} || $word eq $MARKER || $word eq '-C ';
}

sub usage_error ($message) { fail(EXIT_USAGE, $message) }

# Splits the words into flag => value (undef for a flag that arrived without one).
sub collect (@words) {
    my %given;
    while (@words) {
        my $word = shift @words;
        next if $word eq $MARKER;    # documented as having no effect
        $word = '-C' if $word eq '-C ';
        usage_error("unknown flag '$word'") if $word =~ /^-./ && !is_flag($word);
        usage_error("unexpected word '$word' (no flag before it)") unless is_flag($word);
        usage_error("$word is given twice") if exists $given{$word};
        if (exists $SWITCHES{$word}) {
            $given{$word} = 1;
        } elsif ($word eq '-I' || $word eq '-D') {
            # A path is taken whole, whatever it holds, even a leading minus.
            usage_error("$word needs $VALUE_FLAGS{$word}") unless @words;
            $given{$word} = shift @words;
        } else {
            $given{$word} = (@words && !is_flag($words[0])) ? shift @words : undef;
        }
    }
    return %given;
}

sub integer_in ($flag, $text, $low, $high) {
    usage_error("$flag needs $VALUE_FLAGS{$flag}, not '$text'")
        unless $text =~ /^\+?\d+$/ && $text >= $low && $text <= $high;
    return 0 + $text;
}

# "style,weight,color": an empty part (a field left empty in the dialog) means 0, reported.
sub symbology ($flag, $text, $substitutions) {
    my @parts = split /,/, $text, -1;
    usage_error("$flag needs style,weight,color (three parts), not '$text'") unless @parts == 3;
    my @names  = qw(style weight color);
    my @limits = (7, 31, 255);
    my @values;
    for my $i (0 .. 2) {
        if ($parts[$i] eq '') {
            push @$substitutions, "$flag: no $names[$i] given, 0 used";
            push @values, 0;
            next;
        }
        usage_error("$flag: the $names[$i] must be a whole number from 0 to $limits[$i], not '$parts[$i]'")
            unless $parts[$i] =~ /^\+?\d+$/ && $parts[$i] <= $limits[$i];
        push @values, 0 + $parts[$i];
    }
    return { style => $values[0], weight => $values[1], color => $values[2] };
}

sub raster ($text) {
    my @parts = split /,/, $text, -1;
    usage_error("-R needs ulhx,ulhy,pixel (three numbers), not '$text'")
        unless @parts == 3 && !grep { !/^$NUMBER$/ } @parts;
    usage_error("-R: the pixel size must be greater than 0, not '$parts[2]'") unless $parts[2] > 0;
    return { ulhx => 0 + $parts[0], ulhy => 0 + $parts[1], pixel => 0 + $parts[2] };
}

# Returns the job: a hash of checked values, and the substitutions made on the way.
sub parse_arguments (@words) {
    my %given = collect(@words);
    for my $flag (sort keys %given) {
        next if exists $SWITCHES{$flag} || defined $given{$flag};
        usage_error("$flag needs $VALUE_FLAGS{$flag}, and nothing followed it");
    }
    usage_error('-I (the input file) is missing') unless defined $given{'-I'};
    usage_error('-D (the design file) is missing') unless defined $given{'-D'};

    my @substitutions;
    my %job = (input => $given{'-I'}, design => $given{'-D'}, substitutions => \@substitutions);

    if (defined(my $source = $given{'-S'})) {
        usage_error("-S needs $VALUE_FLAGS{'-S'}, not '$source'") unless $source =~ /^[AXEM]$/;
        $job{source} = $source;
    }
    if (defined(my $theme = $given{'-P'})) {
        usage_error("-P needs $VALUE_FLAGS{'-P'}, not '$theme'") unless $theme =~ /^[PLA]$/;
        $job{theme} = $theme;
    }
    $job{line_level}  = integer_in('-L', $given{'-L'}, 1, 63) if defined $given{'-L'};
    $job{point_level} = integer_in('-C', $given{'-C'}, 1, 63) if defined $given{'-C'};
    $job{table}       = $given{'-T'} if defined $given{'-T'};

    if (defined(my $mslink = $given{'-M'})) {
        if ($mslink eq '-i') {
            $job{mslink} = 'id';
        } else {
            $job{mslink} = integer_in('-M', $mslink, 1, 16_777_215);
        }
    }
    if (defined(my $type = $given{'-O'})) {
        usage_error("-O needs $VALUE_FLAGS{'-O'}, not '$type'") unless $type =~ /^[PATC]$/;
        $job{point_type} = $type;
    }
    $job{point_type} //= 'P';
    $job{curves} = exists $given{'-c'};

    $job{line_symbology}  = symbology('-sl', $given{'-sl'}, \@substitutions) if defined $given{'-sl'};
    $job{point_symbology} = symbology('-sp', $given{'-sp'}, \@substitutions) if defined $given{'-sp'};
    $job{cell_file} = $given{'-ce'} if defined $given{'-ce'};
    $job{cell_name} = $given{'-cn'} if defined $given{'-cn'};

    $job{font} = integer_in('-f', $given{'-f'}, 0, 255) if defined $given{'-f'};
    if (defined(my $size = $given{'-txsz'})) {
        usage_error("-txsz needs $VALUE_FLAGS{'-txsz'}, not '$size'") unless $size =~ /^$NUMBER$/ && $size > 0;
        $job{text_size} = 0 + $size;
    }
    $job{justification} = integer_in('-J', $given{'-J'}, 0, 14) if defined $given{'-J'};
    $job{raster} = raster($given{'-R'}) if defined $given{'-R'};

    # Refused only once the whole command line is known to be right.
    fail(EXIT_INPUT, 'Etak Map Base input (-S E) is not supported by this converter') if ($job{source} // '') eq 'E';
    fail(EXIT_INPUT, 'MOSS input (-S M) is not supported by this converter') if ($job{source} // '') eq 'M';
    return \%job;
}

1;
