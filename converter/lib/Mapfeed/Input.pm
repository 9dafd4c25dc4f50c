package Mapfeed::Input;
# Readers of the two input formats, each giving a list of records:
#   { kind => 'point', id, x, y, line }                        one location
#   { kind => 'line', id, points => [[x, y], ...], label, line } a line or a polygon ring, with
#                                                               its label point [x, y] if any
# "line" is the number of the input line the record starts on, for the messages.
use v5.36;

use Exporter 'import';
our @EXPORT_OK = qw(read_generate read_xy read_lines looks_like_generate);

use Mapfeed::Failure qw(fail EXIT_INPUT);

my $NUMBER = qr/[-+]?(?:\d+\.?\d*|\.\d+)(?:[eE][-+]?\d+)?/;
my $ID     = qr/[-+]?\d+/;

sub malformed ($file, $line, $what) { fail(EXIT_INPUT, "$file line $line: $what") }

# The file's lines without their line ends; any other read failure ends the run.
sub read_lines ($file) {
    open(my $in, '<', $file) or fail(EXIT_INPUT, "cannot read the input file $file: $!");
    my @lines = <$in>;
    close $in;
    s/\r?\n\z// for @lines;
    return \@lines;
}

sub fields ($text) {
    (my $trimmed = $text) =~ s/^\s+|\s+$//g;
    return () if $trimmed eq '';
    return split /\s*,\s*|\s+/, $trimmed;
}

sub is_end (@f) { return @f == 1 && uc $f[0] eq 'END' }
sub all_numbers (@f) { return !grep { !/^$NUMBER$/ } @f }

# True when the text reads as Arc/Info generate (it has END lines).
sub looks_like_generate ($lines) {
    return scalar grep { my @f = fields($_); is_end(@f) } @$lines;
}

# Arc/Info generate text. Points: "id x y" lines and a final END. Lines and polygons: per record
# an id line ("id", or "id x y" with the polygon's label point), then "x y" or "x,y" lines, then
# END; after the last record a final END. Point records may stand between line records.
sub read_generate ($file, $lines) {
    my @records;
    my $current;    # the line record being read
    my $ended;      # line number of the final END
    for my $i (0 .. $#$lines) {
        my $n = $i + 1;
        my @f = fields($lines->[$i]);
        next unless @f;
        malformed($file, $n, "text after the final END (line $ended)") if $ended;
        if ($current) {
            if (is_end(@f)) {
                malformed($file, $n, "record $current->{id} has fewer than two vertices")
                    if @{ $current->{points} } < 2;
                push @records, $current;
                undef $current;
            } elsif (@f == 2 && all_numbers(@f)) {
                push @{ $current->{points} }, [ 0 + $f[0], 0 + $f[1] ];
            } else {
                malformed($file, $n, "expected 'x y' or END in record $current->{id}, found '$lines->[$i]'");
            }
            next;
        }
        if (is_end(@f)) {
            $ended = $n;
            next;
        }
        malformed($file, $n, "expected an id, 'id x y' or END, found '$lines->[$i]'")
            unless $f[0] =~ /^$ID$/ && (@f == 1 || (@f == 3 && all_numbers(@f[ 1, 2 ])));
        if (@f == 1) {
            $current = { kind => 'line', id => $f[0], points => [], line => $n };
        } elsif (next_is_vertex($lines, $i + 1)) {
            $current = { kind => 'line', id => $f[0], points => [], label => [ 0 + $f[1], 0 + $f[2] ], line => $n };
        } else {
            push @records, { kind => 'point', id => $f[0], x => 0 + $f[1], y => 0 + $f[2], line => $n };
        }
    }
    malformed($file, scalar @$lines, "record $current->{id} (line $current->{line}) is not ended by END") if $current;
    fail(EXIT_INPUT, "$file does not end with the final END line (cut short?)") unless $ended;
    return \@records;
}

sub next_is_vertex ($lines, $from) {
    for my $i ($from .. $#$lines) {
        my @f = fields($lines->[$i]);
        next unless @f;
        return @f == 2 && all_numbers(@f);
    }
    return 0;
}

# X,Y text: one point a line, "x y", "x,y", "id x y" or "id,x,y"; blank lines are skipped, a
# first line of column names is skipped and reported, a line "END" ends the data.
sub read_xy ($file, $lines, $notes) {
    my @records;
    my $sequence = 0;
    for my $i (0 .. $#$lines) {
        my $n = $i + 1;
        my @f = fields($lines->[$i]);
        next unless @f;
        last if is_end(@f);
        if (!@records && !all_numbers(@f) && !grep {/\d/} @f) {
            push @$notes, "$file line $n: '$lines->[$i]' read as column names and skipped";
            next;
        }
        $sequence++;
        if (@f == 2 && all_numbers(@f)) {
            push @records, { kind => 'point', id => $sequence, x => 0 + $f[0], y => 0 + $f[1], line => $n, numbered => 1 };
        } elsif (@f == 3 && all_numbers(@f[ 1, 2 ]) && $f[0] =~ /^$ID$/) {
            push @records, { kind => 'point', id => $f[0], x => 0 + $f[1], y => 0 + $f[2], line => $n };
        } else {
            malformed($file, $n, "expected 'x y' or 'id x y', found '$lines->[$i]'");
        }
    }
    return \@records;
}

1;
